#include "gui/app/StringTable.h"

#include <QCoreApplication>

#include "core/app/Messages.h"

QString LoadStringRes(int id)
{
    // The English texts are the program's own; the language module translates
    // them under the context "StringTable" (source texts kept by hand in the
    // .ts files, since they live in the core).
    const char* english = EnglishMessage(id);
    return english ? QCoreApplication::translate("StringTable", english) : QString();
}
