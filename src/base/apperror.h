#pragma once

#include <QString>

#include <exception>

// An error that ends the handler it happens in and is shown in the
// application's error box. The message is what the cashier reads.
class AppError : public std::exception
{
public:
    explicit AppError(QString message);

    const QString &message() const { return m_message; }
    const char *what() const noexcept override;

private:
    QString m_message;
    QByteArray m_utf8;
};

// The database refused or could not run something.
class DatabaseError : public AppError
{
public:
    using AppError::AppError;
};

// The database refused a row because another row already holds its unique key.
class DuplicateKeyError final : public DatabaseError
{
public:
    using DatabaseError::DatabaseError;
};

// The connection to the database server is gone, or could not be made: the
// message names the server. What was committed before stays; the program
// connects again by itself.
class ConnectionLost final : public DatabaseError
{
public:
    using DatabaseError::DatabaseError;
};

// A row could not be written back because someone else (another till)
// changed or deleted it since it was read.
class RowChangedElsewhere final : public DatabaseError
{
public:
    using DatabaseError::DatabaseError;
};

// The data file cannot be used as it is: its layout, its version, or it
// cannot be written. The message says why and names the file; it is shown in
// place of the connection message at start-up.
class DataFileError final : public DatabaseError
{
public:
    using DatabaseError::DatabaseError;
};

// Text that is not a number where a number is needed.
class ConversionError final : public AppError
{
public:
    using AppError::AppError;
};

// A window refused what was asked of it (a missing code, a missing name …).
class Refusal final : public AppError
{
public:
    using AppError::AppError;
};

// A file the shop chose (an import, an export, a backup) could not be read or written.
class FileError final : public AppError
{
public:
    using AppError::AppError;
};
