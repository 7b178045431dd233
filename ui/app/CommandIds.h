#pragma once

// Command identifiers of the menus, toolbar, context menu and accelerators.
enum CommandId : int {
    ID_FILE_NEW = 57600,
    ID_FILE_OPEN = 57601,
    ID_FILE_SAVE = 57603,
    ID_FILE_SAVE_AS = 57604,
    ID_FILE_PRINT_SETUP = 57606,
    ID_FILE_PRINT = 57607, // the current tab (Ctrl+P)
    ID_FILE_PRINT_PREVIEW = 57609,
    ID_FILE_MRU_FIRST = 57616,
    ID_FILE_MRU_LAST = 57631,
    ID_EDIT_UNDO = 57643,
    ID_EDIT_REDO = 57644,
    ID_EDIT_CUT_GRID = 57635, // Shift+Delete, offered to the grid
    ID_EDIT_COPY = 57634,
    ID_EDIT_PASTE = 57637,
    ID_APP_ABOUT = 57664,
    ID_APP_EXIT = 57665,
    ID_HELP_FINDER = 57670,
    ID_VIEW_TOOLBAR = 59392,
    ID_VIEW_STATUS_BAR = 59393,
    ID_UPLOAD = 32771,
    ID_DOWNLOAD = 32772,
    ID_COM_SETUP = 32773,
    ID_FILE_PRINT_ALL = 32781,
    ID_EDIT_CUT_CHANNELS = 32783,
    ID_EDIT_PASTE_VIEW = 32787,
    ID_EDIT_COPY_VIEW = 32788,
    ID_EDIT_SELECT_ALL = 32789,
    // The whole-configuration report: printed, previewed, or written as a PDF file.
    ID_FILE_PRINT_REPORT = 32790,
    ID_FILE_REPORT_PREVIEW = 32791,
    ID_FILE_EXPORT_PDF = 32792,
    ID_COMPARE = 32793,
    ID_NEXT_SHEET = 32794,
    ID_PREV_SHEET = 32795,
    ID_UNIT_BACKUPS = 32796, // Tools > Unit backups...: open one of the unit's previous configurations
};
