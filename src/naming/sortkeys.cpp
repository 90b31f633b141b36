#include "naming/sortkeys.h"

#include <algorithm>
#include <utility>

namespace tarvel {

void sortKeys(QStringList& list, int n)
{
    // Elements 1 to n take part; element 0 is not a key.
    const qsizetype last = std::min<qsizetype>(n, list.size() - 1);
    if (last < 2)
        return;

    qsizetype h = 1;
    while (h <= last)
        h += h;
    for (h = (h - 1) / 2; h > 0; h = (h - 1) / 2) {
        for (qsizetype i = 1; i <= last - h; ++i) {
            // Equal keys are exchanged too: the order they end in depends on it.
            for (qsizetype j = i; j > 0; j -= h) {
                if (list.at(j + h) > list.at(j))
                    break;
                list.swapItemsAt(j, j + h);
            }
        }
    }
}

} // namespace tarvel
