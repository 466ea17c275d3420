#pragma once

#include <QString>

// The one text form of every number the program shows, prints or stores as
// text: at most 15 significant digits, no trailing zeros, "." as the decimal
// point, scientific below 0.0001 and from 1E15 on ("5E-5", "1E15").
QString formatGeneral(double value);

// Text typed by the cashier to a number: optional sign, digits with at most
// one ".", optional exponent; blanks around it are allowed. Anything else
// throws ConversionError "'<text>' is not a valid floating point value",
// as does a number beyond the largest double. What formatGeneral writes for
// any finite double reads back (its 15 digits for ±1.79769313486232E308 mean
// the largest double).
double textToNumber(const QString &text);

// The same, without throwing: false when the text is not a number.
bool tryTextToNumber(const QString &text, double *value);
