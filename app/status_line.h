// The status line in the top-left corner, and the line shown instead while paused.
#pragma once

// The texts, blanks included.
inline constexpr char SPEED_LABEL[] = "Velocita'[ + - ] =";
inline constexpr char CURVE_LABEL[] = "   Tipo[ 1-9 ] =";
inline constexpr char CONTROLS_TAIL[] = "       Mouse SX=Ridisegna  DX=Pausa  ESC=Esci          ";
inline constexpr char PAUSE_TEXT[] = "Pausa - Mouse DX=Contnua  ESC=Esci          ";
inline constexpr int PAUSE_PADDING = 255;

// The finished lines as new heap strings (owned by the caller); null when the heap refuses.
char* buildStatusLine();
char* buildPauseLine();

// Both print nothing while statusLinesShown is 0 (the screen savers).
void printStatusLine();
void printPauseLine();
