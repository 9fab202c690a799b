// The numbered warnings and questions, and the captions the user sees.
#pragma once

constexpr int kMessageCount = 36;
// Entries 0..28 are warnings, 29 is empty, 30 and 31 are questions; the
// warnings from 32 on came later, after the questions, so that the numbers
// of the older ones stay as they were.
constexpr int kMessageLastWarning = 28;

extern const char kAppCaption[];     // warning and question boxes
extern const char kNoticeCaption[];  // auto-closing notices
extern const char kConfirmSuffix[];  // appended to every question

// The text of a message number; "" for numbers outside the table.
const char* message_text(int number);

enum MessageNumber {
    kMsgTrayFailed = 0,
    kMsgIndexedColour = 1,
    kMsgSystemError = 2,
    kMsgBadWidth = 3,
    kMsgBadHeight = 4,
    kMsgBadHotkey = 5,
    kMsgHotkeyTaken = 6,
    kMsgClipboardImage = 7,
    kMsgNoFormat = 8,
    kMsgBadJpegQuality = 9,
    kMsgNoPrefix = 10,
    kMsgNoOutputFolder = 11,
    kMsgNoOutput = 12,
    kMsgImageFile = 13,
    kMsgClipboardOpen = 14,
    kMsgOutputFolderMissing = 15,
    kMsgGifFile = 16,
    kMsgDither = 17,
    kMsgJpegFile = 18,
    kMsgBmpFile = 19,
    kMsgNoMemory = 20,
    kMsgHtmlNoInsertPlace = 21,
    kMsgHtmlCreate = 22,
    kMsgHtmlNotSet = 23,
    kMsgHtmlRead = 24,
    kMsgFileWrite = 25,
    kMsgFileRead = 26,
    kMsgBadImage = 27,
    kMsgNoItems = 28,
    kMsgOverwrite = 30,
    kMsgDeleteItem = 31,
    kMsgScrapChangedElsewhere = 32,
    kMsgBadPrefix = 33,
    kMsgNumberExhausted = 34,
    kMsgPngFile = 35,
};
