// The layout file tarvel.dat from any bytes: load, save, load again. The second load must
// be complete and equal the first, up to undecodable bytes, which are stored as "?"
// (compared through the file's encoding, which is one-to-one on what a load gives).

#include "fuzzsupport.h"
#include "layout/layoutfile.h"

using namespace tarvel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const DataLocations where = fuzz::scratchLocations();
    const QString fileName = QString::fromUtf16(kLayoutFileName);
    fuzz::writeScratchFile(fileName, fuzz::inputBytes(data, size));

    Layout first = defaultLayout();
    loadLayout(where, first);
    saveLayout(where, first);
    const QByteArray saved = fuzz::readScratchFile(fileName);
    fuzz::check(saved == encodeLayout(first), "the file holds the layout's encoding");

    Layout second = defaultLayout();
    fuzz::check(loadLayout(where, second).outcome == LayoutLoad::Complete,
                "a saved layout loads whole");
    fuzz::check(encodeLayout(second) == saved, "the second load equals the first");
    fuzz::check(fuzz::readScratchFile(fileName) == saved, "a complete load leaves the file");
    return 0;
}
