#include "printrun/session.h"

namespace tarvel {

Session startSession(const QString& locationFile)
{
    Session session;
    session.where = loadDataLocations(locationFile);
    requireDataFolder(session.where);
    session.layout = defaultLayout();
    session.itemText = startupItemTexts(session.layout);
    session.layoutLoad = loadLayout(session.where, session.layout);
    session.backdrop = loadLayoutIni(session.where, session.layout);
    // In the window each loaded free text reaches its item through the text box's change.
    for (int k = 0; k < kFreeTextCount; ++k)
        session.itemText[freeTextItem(k)] = session.layout.freeTexts[k];
    session.meet = loadMeetSettings(session.where);
    return session;
}

} // namespace tarvel
