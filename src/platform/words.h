#pragma once
/// The operator's words: every text the program shows is written in English here and given
/// in the language of the translations the program installed (the window: Japanese always;
/// tarvel-batch: the locale's).

#include <QCoreApplication>

namespace tarvel {

/// `Words::tr("reading the location file")` from any code without a QObject of its own; one
/// translation context, "tarvel", for all of them.
class Words {
    Q_DECLARE_TR_FUNCTIONS(tarvel)
};

} // namespace tarvel
