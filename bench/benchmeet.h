#pragma once
/// The meet the whole-meet benchmarks print: about 250 events over all 1024 races, and what
/// those benchmarks begin with.

#include "meetbuilder.h"

#include <QGuiApplication>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

namespace tarvel::bench {

struct GeneratedMeet {
    int events = 0;
    int relayEvents = 0;
    QList<int> races;
};

/// 1024 races in events of 2 to 6 heats (about 250 events), 8 lanes each, every fifth event
/// a relay with four legs per team, every 25th a custom event. Writes every file of the
/// meet through `builder`, the race statuses excepted; the same meet every time.
GeneratedMeet writeBenchMeet(sample::MeetBuilder& builder);

/// The application of a benchmark that draws: offscreen unless QT_QPA_PLATFORM says
/// otherwise, with the font substitutions the programs register. `argc` must outlive it.
std::unique_ptr<QGuiApplication> startDrawingBench(int& argc, char** argv);

/// The word after the last `option` among `arguments` ("--repeat 5"); none when not given.
std::optional<QString> optionValue(const QStringList& arguments, const QString& option);

} // namespace tarvel::bench
