/* An empty stand-in for a needed library that this machine lacks. It serves
   only to link and to run tests here; it is never installed. */
