#pragma once
// Start-up work before the main window: finding the game, loading the behaviour catalogues and
// script.txt, with the messages the user sees when something is missing.

#include <QString>
#include <QStringList>

#include "editors/platform.h"

namespace scrivet {

class PrimitiveCatalogue;
struct BehaviourCatalogues;

// The game folder with a trailing separator, or empty. Sources in order: the SIMS_DATA
// environment variable, the "GameFolder" setting, on Windows the game's registry value.
QString FindGameFolder(Platform& platform);
// Appends a separator unless the text is empty or already ends in one.
QString WithTrailingSeparator(const QString& folder);

// Loads the game's behaviour file and global folder, then script.txt from the program folder.
// Messages have no owner window. Returns whether behaviour text is available (scriptReady).
bool LoadBehaviourSupport(const QString& gameFolder, const QString& programFolder, BehaviourCatalogues& catalogues,
                          Platform& platform);

// "Load custom script.txt": returns whether the new script is in use.
bool LoadCustomScript(const QString& path, PrimitiveCatalogue& primitives, Platform& platform, QWidget* owner);

}  // namespace scrivet
