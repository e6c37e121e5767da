#pragma once

// Whether the keyboard input on `fd` has ended, asked right after the
// terminal library found no key there: the descriptor is hung up, or it
// reports data that is not there (end of file, a closed terminal).
bool keyboardInputEnded(int fd);
