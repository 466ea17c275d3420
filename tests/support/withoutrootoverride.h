#pragma once

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

// Root writes any file whatever its mode. For the life of this object the
// calling thread gives that power up (it leaves the thread's effective
// capabilities and comes back after), so a read-only file or folder is
// read-only to the code under test as it is to a shop's user. Nothing changes
// for a user who never had it.
class WithoutRootOverride final
{
public:
    WithoutRootOverride()
    {
        if (syscall(SYS_capget, &m_header, m_saved) != 0)
            return;
        __user_cap_data_struct reduced[2] = {m_saved[0], m_saved[1]};
        reduced[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
        m_changed = syscall(SYS_capset, &m_header, reduced) == 0;
    }

    ~WithoutRootOverride()
    {
        if (m_changed)
            syscall(SYS_capset, &m_header, m_saved);
    }

    WithoutRootOverride(const WithoutRootOverride &) = delete;
    WithoutRootOverride &operator=(const WithoutRootOverride &) = delete;

private:
    __user_cap_header_struct m_header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct m_saved[2] = {};
    bool m_changed = false;
};
