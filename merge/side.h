#ifndef PAIREX_MERGE_SIDE_H
#define PAIREX_MERGE_SIDE_H

// The two files of a merge, and everything shown or chosen for one of them: the left
// side is File 1, the right side File 2.
enum Side { SIDE_LEFT = 0, SIDE_RIGHT = 1 };

inline Side other_side(Side s) {
    return s == SIDE_LEFT ? SIDE_RIGHT : SIDE_LEFT;
}

#endif
