#pragma once
// Clicked 按钮_转换 ("转换"): convert every file of the source list.
//
// The window stays usable during the whole run (files convert on worker
// threads, ahead of the list), so the list can change under a run. A run in
// progress ignores a second start; a run stops before its next file when the
// source list has been cleared meanwhile or the main window has gone; files
// added meanwhile wait for the next run.
void 按钮_转换_被单击();
