#pragma once

// Adds every screen to the ScreenRegistry under its class name, with the
// side-menu container as a scan builds it. Idempotent; the programs call it
// once at start-up.
void registerScreens();
