#pragma once

// What a test of a feature starts from: a main window with every feature installed, shown and
// active, the message boxes it shows caught, and a folder of the test's own for its files.
// A test that uses it links velmorin_features.

#include "Features.h"
#include "MessageBoxCatcher.h"
#include "VlmPrg.h"
#include "WindowDriver.h"

#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <memory>

namespace velmorin::testing {

// Where the program keeps the last folder chosen in its file dialogs.
const QString kLastFolderKey = QStringLiteral("fichiers/dernierDossier");

inline QSettings programSettings()
{
    return QSettings(QStringLiteral("Velmorin"), QStringLiteral("Velmorin"));
}

// The program's settings go to `dir`, never to the user's, and the standard folders to the
// test ones; false when the settings would go elsewhere.
inline bool keepSettingsIn(const QTemporaryDir &dir)
{
    QStandardPaths::setTestModeEnabled(true);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
    return dir.isValid() && programSettings().fileName().startsWith(dir.path());
}

// Makes the three afresh, the boxes caught before the window exists; false when the window
// did not become the active one.
inline bool startFeatureWindow(std::unique_ptr<QTemporaryDir> &dir,
                               std::unique_ptr<MessageBoxCatcher> &boxes,
                               std::unique_ptr<TVlmFPrg> &window)
{
    dir = std::make_unique<QTemporaryDir>();
    boxes = std::make_unique<MessageBoxCatcher>();
    window = std::make_unique<TVlmFPrg>();
    installFeatures(*window);
    return dir->isValid() && showActive(*window);
}

} // namespace velmorin::testing
