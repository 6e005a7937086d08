/* A library that defines every path name of the one list, each a function
   that ends the process with status 99: loaded into the global scope ahead
   of the Python module, it would serve any path call that the module let
   another library serve. */
#include <unistd.h>

void vornel_decoy_called(void) { _exit(99); }

#define DECOY(name)                                             \
  __asm__(".text\n.globl " #name "\n.type " #name ", @function\n" #name \
          ":\n  jmp vornel_decoy_called@PLT\n");
#include "decoy_names.inc"
