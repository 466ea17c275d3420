#pragma once

#include "base/apperror.h"

// A printer could not be found, opened or written to. The text is shown to
// the cashier in the error box.
class PrinterError final : public AppError
{
public:
    using AppError::AppError;
};
