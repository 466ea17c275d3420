#pragma once

#include "base/apperror.h"

// The two states of a sale whose receipt is out and which is recorded, but
// whose open sale is not yet emptied: the next completion only empties it,
// printing nothing twice. The messages say what happened; the window adds
// how the cashier completes the sale.

// Completing the sale recorded and printed it, but could not empty it.
class SaleNotEmptied final : public DatabaseError
{
public:
    using DatabaseError::DatabaseError;
};

// The lines of such a sale cannot be changed any more.
class SaleLinesFixed final : public AppError
{
public:
    using AppError::AppError;
};

// A discount above the shop's limit without the owner's PIN, or with a wrong one.
class OwnerPinNeeded final : public AppError
{
public:
    using AppError::AppError;
};

// A return was recorded but its 退货单 did not print; it prints again from
// the sales record by its number.
class ReturnNotPrinted final : public AppError
{
public:
    using AppError::AppError;
};
