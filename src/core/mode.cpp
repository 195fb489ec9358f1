#include "core/mode.h"

GameModeValue GameMode = Menu;
int quitChosen;
int spinnerFrame, spinnerTimer;
