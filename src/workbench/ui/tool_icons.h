// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>
#include <QPalette>
#include <QString>

class QMainWindow;

namespace ampvane {

// One of our own icons (":/icons/" + name + ".svg"), drawn in the palette's text colour so it reads on light
// and dark themes, rendered sharp at 1x and 2x. A null icon when there is no such drawing.
QIcon OwnIcon(const QString& name, const QPalette& palette);

// The desktop theme's icon by its freedesktop name when the theme has one, else our own drawing.
QIcon ThemedIcon(const QString& themeName, const QString& ownName, const QPalette& palette);

// Gives every tool button of the workbench, and the menu item that does the same, its icon; the compute
// button gets the accented one. Called again when the palette changes.
void ApplyWorkbenchIcons(QMainWindow& workbench);

} // namespace ampvane
