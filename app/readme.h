// Opens "readme.html" beside the program file with the shell.
#pragma once

void open_readme();
