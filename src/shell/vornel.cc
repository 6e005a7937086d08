// The library's own source: the one translation unit that pulls in the
// standard streams, so that loading libvornel.so initialises them once.
#include <iostream>
