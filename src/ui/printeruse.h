#pragma once
/// Who is using the window's printer. A document is drawn in one piece, yet the window's
/// event loop goes on meanwhile (the progress dialog, a dialog's own loop): an automatic
/// run could otherwise begin inside a reprint, or a test page inside an automatic run.

#include "platform/failure.h"
#include "platform/words.h"

#include <QString>

#include <utility>

namespace tarvel::ui {

class PrinterUse {
public:
    /// Holds the printer until it goes.
    class Claim {
    public:
        explicit Claim(PrinterUse& use) : use_(&use) {}
        Claim(Claim&& other) noexcept : use_(std::exchange(other.use_, nullptr)) {}
        Claim(const Claim&) = delete;
        Claim& operator=(const Claim&) = delete;
        Claim& operator=(Claim&&) = delete;
        ~Claim()
        {
            if (use_)
                use_->holder_.clear();
        }

    private:
        PrinterUse* use_;
    };

    /// Claims the printer for `what` ("printing automatically"). Throws tarvel::Failure
    /// (Kind::Busy) naming the holder while another holds it.
    [[nodiscard]] Claim claim(const QString& what)
    {
        if (!holder_.isEmpty())
            throw Failure(
                what, QString(),
                Words::tr("the printer is in use (%1); try again once that is done").arg(holder_),
                Failure::Kind::Busy);
        holder_ = what;
        return Claim(*this);
    }

    bool busy() const { return !holder_.isEmpty(); }

private:
    QString holder_;
};

} // namespace tarvel::ui
