/* An empty stand-in for a needed library that this machine lacks. It serves
   to link, to run tests here, and as the installed tool's private copy, kept
   where no loader looks for other programs. */
