// SPDX-License-Identifier: MIT
// Nupew: a karuta game on the hundred-poem anthology.
#include "ui/shell/platform.h"
#include "ui/shell/program.h"

#include <QApplication>

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Nupew"));
    QApplication::setOrganizationName(QStringLiteral("Nupew"));
    nupew::InstallFontSubstitutions();
    nupew::InstallTranslations(&app);
    nupew::Program program;
    program.Main();
    return QApplication::exec();
}
