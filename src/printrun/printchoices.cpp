#include "printrun/printchoices.h"

namespace tarvel {

int PrintChoiceGroup::indexOf(const QString& text) const
{
    for (std::size_t i = 0; i < choices.size(); ++i) {
        if (text == QLatin1StringView(choices[i].word)
            || text == QString::fromUtf16(choices[i].caption))
            return int(i);
    }
    return -1;
}

QString PrintChoiceGroup::describe() const
{
    QStringList words;
    for (const PrintChoice& choice : choices) {
        const QString word = QString::fromLatin1(choice.word);
        const QString caption = QString::fromUtf16(choice.caption);
        words << (word == caption ? word : u"%1 (%2)"_qs.arg(word, caption));
    }
    return words.join(u", "_qs);
}

} // namespace tarvel
