#pragma once
// Whether standard input is a terminal: a bare "bixiqin-convert" typed there
// gets the usage instead of waiting for names.
bool standard_input_is_terminal();
