#pragma once

// What Tarnix does before it makes its application object, which needs a display: --help,
// --version and --check work anywhere, and without a display the program says so and points
// to tarnixd instead of letting Qt end it.
namespace EarlyStart {

/// True when the program is done: \a exitCode then holds its exit code. The start-up flag and
/// any other argument are left to the program.
bool handle(int argc, char *argv[], int *exitCode);
/// The line printed when there is no display.
const char *noDisplayLine();

} // namespace EarlyStart
