#include "platform/failure.h"

namespace tarvel {

Failure::Failure(QString action, QString path, QString reason, Kind kind)
    : action_(std::move(action))
    , path_(std::move(path))
    , reason_(std::move(reason))
    , kind_(kind)
    , utf8_(message().toStdString())
{
}

QString Failure::message() const
{
    if (path_.isEmpty())
        return action_ + u": "_qs + reason_;
    return action_ + u": "_qs + path_ + u": "_qs + reason_;
}

} // namespace tarvel
