#pragma once

class QWidget;

// Most screens discard Enter, Esc and Space key presses before any of their controls
// sees them: neither key closes the screen and no space can be typed into its fields.
void InstallScreenKeyFilter(QWidget* screen);
