#pragma once

class QWidget;

// Most screens discard Enter, Esc and Space key presses before any of their controls
// sees them: neither key closes the screen and no space can be typed into its fields.
// A screen whose fields take spaces (exam creation) discards only Enter and Esc.
enum class SpaceKey { Discarded, Typed };
void InstallScreenKeyFilter(QWidget* screen, SpaceKey space = SpaceKey::Discarded);
