#include "databaseaddress.h"

#include "base/apperror.h"

#include <QUrl>
#include <QUrlQuery>

namespace {

// A dead server must be noticed within a few seconds, not after the system's
// two-hour keepalive: a connection attempt gives up after 3 s, an idle
// connection is probed every second after 2 s, and sent data that is not
// acknowledged within 3 s ends the connection. A statement waits at most 5 s
// for a row another till holds, and none runs longer than 30 s.
const QList<QPair<QString, QString>> kConnectionSettings = {
    {QStringLiteral("connect_timeout"), QStringLiteral("3")},
    {QStringLiteral("keepalives"), QStringLiteral("1")},
    {QStringLiteral("keepalives_idle"), QStringLiteral("2")},
    {QStringLiteral("keepalives_interval"), QStringLiteral("1")},
    {QStringLiteral("keepalives_count"), QStringLiteral("2")},
    {QStringLiteral("tcp_user_timeout"), QStringLiteral("3000")},
    {QStringLiteral("application_name"), QStringLiteral("fenwo")},
    {QStringLiteral("options"), QStringLiteral("-c statement_timeout=30000 -c lock_timeout=5000 -c client_min_messages=warning")},
};

// A libpq setting's value, quoted when it holds blanks or quotes. The Qt
// driver turns every ";" into a blank, so no value may hold one.
QString quoted(const QString &value)
{
    if (value.contains(QLatin1Char(';')))
        throw DatabaseError(QStringLiteral("数据库地址里不能有分号：%1").arg(value));
    if (!value.isEmpty() && !value.contains(QLatin1Char(' ')) && !value.contains(QLatin1Char('\''))
        && !value.contains(QLatin1Char('\\')))
        return value;
    QString escaped = value;
    escaped.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    escaped.replace(QLatin1Char('\''), QStringLiteral("\\'"));
    return QLatin1Char('\'') + escaped + QLatin1Char('\'');
}

} // namespace

bool DatabaseAddress::isServerAddress(const QString &text)
{
    const QString t = text.trimmed();
    return t.startsWith(QLatin1String("postgresql://"), Qt::CaseInsensitive)
        || t.startsWith(QLatin1String("postgres://"), Qt::CaseInsensitive);
}

DatabaseAddress DatabaseAddress::parse(const QString &text)
{
    DatabaseAddress address;
    if (!isServerAddress(text)) {
        address.m_filePath = text;
        return address;
    }
    const QUrl url(text.trimmed(), QUrl::StrictMode);
    const QString name = url.path().mid(1);
    if (!url.isValid() || name.isEmpty() || name.contains(QLatin1Char('/')))
        throw DatabaseError(QStringLiteral("数据库地址写得不对：%1\n应该像 postgresql://用户名@服务器:5432/数据库名")
                                .arg(url.toString(QUrl::RemovePassword)));
    address.m_server = true;
    address.m_host = url.host();
    address.m_port = url.port(-1);
    address.m_databaseName = name;
    address.m_user = url.userName();
    address.m_password = url.password();
    const QUrlQuery query(url);
    for (const auto &[key, value] : query.queryItems(QUrl::FullyDecoded)) {
        if (key == QLatin1String("host"))
            address.m_host = value;
        else if (key == QLatin1String("port"))
            address.m_port = value.toInt();
        else
            address.m_options.append({key, value});
    }
    return address;
}

DatabaseAddress DatabaseAddress::server(const QString &host, int port, const QString &databaseName,
                                        const QString &user)
{
    DatabaseAddress address;
    address.m_server = true;
    address.m_host = host.trimmed();
    address.m_port = port;
    address.m_databaseName = databaseName.trimmed();
    address.m_user = user.trimmed();
    return address;
}

QString DatabaseAddress::connectOptions() const
{
    QStringList settings;
    for (const auto &[key, value] : kConnectionSettings + m_options)
        settings << key + QLatin1Char('=') + quoted(value);
    return settings.join(QLatin1Char(';'));
}

QString DatabaseAddress::serverName() const
{
    const QString host = m_host.isEmpty() ? QStringLiteral("localhost") : m_host;
    if (host.startsWith(QLatin1Char('/')))
        return host;
    return QStringLiteral("%1:%2").arg(host).arg(m_port > 0 ? m_port : 5432);
}

QString DatabaseAddress::text() const
{
    if (!m_server)
        return m_filePath;
    QUrl url;
    url.setScheme(QStringLiteral("postgresql"));
    url.setUserName(m_user);
    QUrlQuery query;
    if (m_host.startsWith(QLatin1Char('/')))
        query.addQueryItem(QStringLiteral("host"), m_host);
    else
        url.setHost(m_host);
    url.setPort(m_port);
    url.setPath(QLatin1Char('/') + m_databaseName);
    for (const auto &[key, value] : m_options)
        query.addQueryItem(key, value);
    url.setQuery(query);
    return url.toString();
}
