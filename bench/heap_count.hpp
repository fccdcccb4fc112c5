// Counts the benchmark's calls to the general heap: operator new and delete are replaced in
// this program by versions that count, then go to malloc and free.
#pragma once

/// Calls to operator new or delete (any form) since the program started.
long heapCalls();
