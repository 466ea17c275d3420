#include "databaseaddress.h"

#include "base/apperror.h"

#include <QRegularExpression>
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

bool isPassword(const QString &key)
{
    return key.compare(QLatin1String("password"), Qt::CaseInsensitive) == 0;
}

// A libpq setting's value, quoted when it holds blanks or quotes. The Qt
// driver turns every ";" into a blank, so no value may hold one; the refusal
// names the setting, never a password.
QString quoted(const QString &key, const QString &value)
{
    if (value.contains(QLatin1Char(';')))
        throw DatabaseError(isPassword(key) ? QStringLiteral("数据库的密码里不能有分号，请换一个密码。")
                                            : QStringLiteral("数据库地址里的 %1 不能有分号：%2").arg(key, value));
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
                                .arg(masked(text.trimmed())));
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
                                        const QString &user, const QString &options)
{
    DatabaseAddress address;
    address.m_server = true;
    address.m_host = host.trimmed();
    address.m_port = port;
    address.m_databaseName = databaseName.trimmed();
    address.m_user = user.trimmed();
    for (const QString &setting : options.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const qsizetype equals = setting.indexOf(QLatin1Char('='));
        if (equals <= 0)
            throw DatabaseError(QStringLiteral("连接选项要写成 名字=值，用空格隔开（例如 sslmode=require）：%1")
                                    .arg(masked(setting)));
        const QString key = setting.left(equals);
        if (isPassword(key))
            throw DatabaseError(QStringLiteral("密码不写在连接选项里：请放在这台电脑的 ~/.pgpass 文件里（或 PGPASSWORD）。"));
        address.m_options.append({key, setting.mid(equals + 1)});
    }
    return address;
}

QString DatabaseAddress::masked(const QString &text)
{
    // user:password@ in an address, and password=… as a setting of the
    // address's query or of libpq's own keyword form (quoted or not).
    static const QRegularExpression inAddress(QStringLiteral("(postgres(?:ql)?://[^:/@\\s]*:)[^@\\s]*@"),
                                              QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression setting(QStringLiteral("(password\\s*=\\s*)('(?:[^'\\\\]|\\\\.)*'|[^&\\s;]*)"),
                                            QRegularExpression::CaseInsensitiveOption);
    QString out = text;
    out.replace(inAddress, QStringLiteral("\\1***@"));
    out.replace(setting, QStringLiteral("\\1***"));
    return out;
}

QString DatabaseAddress::optionsText() const
{
    QStringList settings;
    for (const auto &[key, value] : m_options)
        if (!isPassword(key))
            settings << key + QLatin1Char('=') + value;
    return settings.join(QLatin1Char(' '));
}

QString DatabaseAddress::connectOptions() const
{
    QStringList settings;
    for (const auto &[key, value] : kConnectionSettings + m_options)
        settings << key + QLatin1Char('=') + quoted(key, value);
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
        if (!isPassword(key))
            query.addQueryItem(key, value);
    url.setQuery(query);
    return url.toString();
}
