#pragma once
/// Refusing, as it is typed, what the layout file could not give back as typed.

#include "layout/layoutfile.h"

#include <QValidator>

namespace tarvel::ui {

/// For the free texts: the one kind of text that cannot be stored (see isStorableFreeText).
class FreeTextValidator final : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override
    {
        (void)pos;
        return isStorableFreeText(input) ? Acceptable : Invalid;
    }
};

/// For the rank limits, X, Y and sizes: no comma, no double quote (isStorableNumberText).
/// Anything else may be typed, even text that reads as 0, as the operator may be halfway.
class NumberTextValidator final : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override
    {
        (void)pos;
        return isStorableNumberText(input) ? Acceptable : Invalid;
    }
};

} // namespace tarvel::ui
