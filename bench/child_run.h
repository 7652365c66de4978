// Runs one program to its end and reports its wall time, CPU time and peak resident memory
// (the kernel's own figures for that child, as /usr/bin/time reads them).
#pragma once

namespace bench {

// argv: the program and its arguments, null-terminated. The child's standard output goes to
// standard error; one line "wall_s= user_s= sys_s= maxrss_kib= status=" goes to standard
// output. Returns 0 when the child ran and exited with status 0.
int RunChild(char** argv);

}  // namespace bench
