#include "headlesscommands.h"

#include "db/apperror.h"
#include "db/database.h"
#include "db/databaseaddress.h"
#include "db/democatalogue.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>

namespace {

const char *const kCommands[] = {"--init-db"};

void complain(const QString &message)
{
    std::fprintf(stderr, "fenwo: %s\n", qPrintable(message));
}

// fenwo --init-db PATH [--demo]: makes a new database file with every table
// (and, with --demo, a small catalogue and a settings row). With a server
// address (postgresql://…) it makes the tables on that empty database.
int initDatabase(const QString &address, bool demo)
{
    try {
        Database::create(address);
        if (demo) {
            Database db;
            db.open(address);
            DemoCatalogue::fill(db);
        }
    } catch (const AppError &e) {
        complain(e.message());
        return 1;
    }
    if (DatabaseAddress::isServerAddress(address))
        std::printf("fenwo: made the tables on %s\n", qPrintable(DatabaseAddress::parse(address).text()));
    else
        std::printf("fenwo: made %s\n", qPrintable(address));
    return 0;
}

} // namespace

namespace HeadlessCommands {

bool wanted(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        for (const char *command : kCommands) {
            const auto length = qstrlen(command);
            if (qstrcmp(argv[i], command) == 0 || (qstrncmp(argv[i], command, length) == 0 && argv[i][length] == '='))
                return true;
        }
    }
    return false;
}

int run(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    const QCommandLineOption initDb(QStringLiteral("init-db"),
                                    QStringLiteral("Make a new database file, or the tables on an empty database of a "
                                                   "PostgreSQL server (postgresql://USER@HOST:PORT/DBNAME), and end."),
                                    QStringLiteral("path"));
    const QCommandLineOption demo(QStringLiteral("demo"), QStringLiteral("With --init-db: add a demo catalogue."));
    parser.addOptions({initDb, demo});
    parser.process(app);
    if (parser.isSet(initDb))
        return initDatabase(parser.value(initDb), parser.isSet(demo));
    return 2;
}

} // namespace HeadlessCommands
