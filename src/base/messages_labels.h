#pragma once

// The catalogue's labels of the desktop program's window: its groups, boxes, buttons, menu, table
// columns and dialogs. The window shows the Japanese ones; an "&" marks the key that chooses a
// menu item, and "&&" shows one "&" on a button.

#include <vector>

#include "base/message.h"

namespace rendlow {

// --- The song frame ------------------------------------------------------------------------
Message songGroupCaption();
Message inputFileLabel();
Message browseButtonCaption();
// The track table's first column (the check box and the track's name) and its last (the count of
// sounds the last output cut), each with the tooltip that explains its short header.
Message trackNameColumn();
Message trackNameColumnTip();
Message soundCountColumn();
Message soundCountColumnTip();
// The split methods by their value, as the table and the settings group's drop-down name them.
std::vector<Message> splitMethodNames();
// A flag in the table, shown as the settings group's check box is: ticked or empty.
Message flagMark(bool on);

// --- The settings group ----------------------------------------------------------------------
Message updateButtonCaption();

// --- The output row and the chart header group ----------------------------------------------
Message outputFileLabel();
Message chartOutputButtonCaption();
Message midiOutputButtonCaption();
Message saveSettingsButtonCaption();
Message chartGroupCaption();
Message genreLabel();
Message titleLabel();
Message artistLabel();

// --- The menu ----------------------------------------------------------------------------------
Message soundMenuCaption();
Message makeKeysoundsMenuItem();
Message cutFromStemsMenuItem();
// "Midi&&BMS出力" with the chart from the song alone, not taking in the author's work on the old one.
Message freshChartMenuItem();
Message aboutStemsMenuItem();

// --- The dialogs -------------------------------------------------------------------------------
Message songFileDialogTitle();
// The one kind of file the song dialog lists, as its filter names it.
Message songFileFilterName();
Message stemsFolderDialogTitle();

}  // namespace rendlow
