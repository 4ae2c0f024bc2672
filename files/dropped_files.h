#pragma once
// What a drop on the main window adds to the source list.
#include <vector>

#include "text/text.h"

// The files that the dropped paths stand for, in the order given: a file
// stands for itself; a folder for the files directly inside it whose names
// end in ".txt" in any case (what the open dialog's filter shows), sorted
// byte-wise by name; a path that names nothing is left out.
std::vector<text::Text> 放下的源文件(const std::vector<text::Text>& dropped);
