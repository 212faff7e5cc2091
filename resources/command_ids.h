#ifndef PAIREX_RESOURCES_COMMAND_IDS_H
#define PAIREX_RESOURCES_COMMAND_IDS_H

/* Command ids of menus, accelerators and posted requests. */

#define CMD_NEXT 6
#define CMD_PREV 7
#define CMD_FROM_LEFT 8
#define CMD_FROM_RIGHT 9
#define CMD_UNSELECT_ALL 10
#define CMD_TITLE_FONT 11
#define CMD_TAB_SIZE 12
#define CMD_FONT 13
#define CMD_COMPRESS_SPACES 14
#define CMD_HELP_CONTENTS 15
#define CMD_AUTO_WALK 16
#define CMD_PRINT 17

#define CMD_BEGINNING 301
#define CMD_END 302
#define CMD_FILE1 303
#define CMD_FILE2 304
#define CMD_COMPARE_FILES 305
#define CMD_WRITE 306
#define CMD_QUIT 307
#define CMD_LINE_NUMBERS 308
#define CMD_ABOUT 309
#define CMD_FIRST 310
#define CMD_LAST 311
#define CMD_SKIP 312
#define CMD_CANCEL 313
#define CMD_COMPARE_DIRS 314
#define CMD_NEXT_PAIR 315

/* Undo and redo of the choices. */
#define CMD_UNDO 320
#define CMD_REDO 321
/* Marks within changed lines. */
#define CMD_HIGHLIGHT_CHANGES 330
/* Write ends each line as in its file. */
#define CMD_KEEP_LINE_ENDS 331
/* Options > Follow Windows, Light, Dark: the panes' look, in this order. */
#define CMD_THEME_FOLLOW_WINDOWS 350
#define CMD_THEME_LIGHT 351
#define CMD_THEME_DARK 352

/* What the current block resolves to, and the merged text in view. */
#define CMD_TAKE_LEFT 340
#define CMD_TAKE_RIGHT 341
#define CMD_LEFT_THEN_RIGHT 342
#define CMD_RIGHT_THEN_LEFT 343
#define CMD_TAKE_BASE 344
#define CMD_EDIT_BLOCK 345
#define CMD_MERGED_RESULT 346

#endif
