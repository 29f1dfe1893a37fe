// The group tree drawn the straightforward way: every group from the first
// row to the end, each one walking up through its earlier siblings and
// their descendants to draw its link. It costs up to the number of groups
// times the longest such walk; draw_groups must draw exactly the same cells.
#pragma once

struct kpass_db;

void reference_draw_groups(const kpass_db* db, int first_row, int cursor, bool focused);
