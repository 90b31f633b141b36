#pragma once
/// Reading the blank certificate off the GUI thread: the window appears at once and shows
/// the image when it arrives.

#include "platform/failure.h"
#include "platform/qt/backdropimage.h"

#include <QImage>
#include <QObject>

#include <memory>

namespace tarvel {

/// Each load() reads on a thread of its own (loadBackdropImage within `limits`) and answers
/// on the loader's thread, through a queued call, with loaded() or failed(). Only the
/// latest request answers: a load() or cancel() drops the one under way (a PDF being
/// rendered is stopped). Use from the thread the loader lives in.
///
/// The destructor drops the request under way and waits up to a few seconds for its thread
/// to notice; a reading that hangs longer (a network share that does not answer) is left
/// to end by itself, and its answer goes nowhere.
class BackdropLoader final : public QObject {
    Q_OBJECT
public:
    explicit BackdropLoader(BackdropLimits limits = {}, QObject* parent = nullptr);
    ~BackdropLoader() override;

    /// Starts reading `path`, a path of this machine.
    void load(const QString& path);
    /// Drops the request under way; none answers.
    void cancel();
    /// Whether a request is under way.
    bool isLoading() const { return loading_; }

Q_SIGNALS:
    void loaded(const QString& path, const QImage& image);
    void failed(const tarvel::Failure& failure);

private:
    struct Shared;
    void answer(quint64 ticket, const QString& path, const QImage& image,
                const std::optional<Failure>& failure);

    BackdropLimits limits_;
    std::shared_ptr<Shared> shared_;
    quint64 ticket_ = 0;
    bool loading_ = false;
};

} // namespace tarvel
