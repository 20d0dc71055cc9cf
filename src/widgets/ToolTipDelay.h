#pragma once

// How long the pointer rests on a control before its hint shows, for the whole application.
void setToolTipDelay(int ms);
