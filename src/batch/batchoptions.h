#pragma once
/// tarvel-batch's options, declared once: their names, help texts and value names, and the
/// parser that reads them.

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QList>
#include <QString>
#include <QStringList>

#include <initializer_list>

namespace tarvel::batch {

/// Every option, in the order --help lists them.
enum class Option {
    Help,
    Version,
    Directory,
    Condition,
    Distance,
    Stroke,
    Round,
    Sex,
    Prefix,
    RankIndividual,
    RankRelay,
    PreviewOnly,
    Pdf,
    Log,
    History,
    Csv,
    Reprint,
    Watch,
    Interval,
    MakeECertificates,
    Race,
    Affiliation,
    Zip,
    ECertificates,
    CeremonyList,
    CeremonyPrinter,
    CeremonyPdf,
    CeremonyListOf,
    Serve,
    Listen,
    AccessCodeFile,
    DeskPinFile
};

/// The options and the parser they were added to. Not copyable: the parser keeps them.
class BatchOptions {
public:
    BatchOptions();
    BatchOptions(const BatchOptions&) = delete;
    BatchOptions& operator=(const BatchOptions&) = delete;

    /// Reads the arguments (the program name first); false with errorText() on bad usage.
    bool parse(const QStringList& arguments);
    QString errorText() const { return parser_.errorText(); }
    QString helpText() const { return parser_.helpText(); }
    QStringList positionalArguments() const { return parser_.positionalArguments(); }

    bool isSet(Option option) const { return parser_.isSet(of(option)); }
    /// Whether any of `options` is set.
    bool anySet(std::initializer_list<Option> options) const;
    QString value(Option option) const { return parser_.value(of(option)); }
    QStringList values(Option option) const { return parser_.values(of(option)); }
    /// The option's long name, as messages write it after "--".
    QString name(Option option) const { return of(option).names().last(); }

private:
    const QCommandLineOption& of(Option option) const { return options_[int(option)]; }

    QCommandLineParser parser_;
    QList<QCommandLineOption> options_;
};

} // namespace tarvel::batch
