// The driver installer Velqar.exe, shipped beside Install.exe: started with
// one fixed command line to install the driver package and another to
// remove it, waited for without a time limit, and judged by its exit code
// alone.
#ifndef DRIVERINSTALLER_H
#define DRIVERINSTALLER_H

#include <windows.h>

// The driver installer's own failure; a crash's exception status fails too
// (DriverInstallerFailed), and any other code is success, installation and
// removal alike.
enum { DRIVER_INSTALLER_FAILED = 2 };

// How one run of the driver installer went.
struct DriverInstallerRun {
    BOOL ended;        // the wait saw it end; FALSE: the wait failed
    DWORD exitCode;    // its exit code when it ended, else 0
    DWORD error;       // the last error as it stood after the exit code was read, or the wait's error
};

// The last run waited for, for the line that ends its stage in the log.
extern DriverInstallerRun lastDriverInstallerRun;

// Installation: "<sourceDir>\Velqar.exe" "<sourceDir>\Velqar.inf" <OS class>
// setup, started hidden from sourceDir with CreateProcessA. Removal:
// "<sourceDir>\Velqar.exe" uninstall <OS class> delete, started hidden
// through the shell. Each waits without a time limit (installing a driver
// package may take long, and there is no sound point at which to give up
// on it), keeping the wizard's page painted and answering meanwhile, and
// logs the command line, the exit code and the run time. FALSE, with the
// start's error, when it cannot be started; otherwise TRUE and the run.
BOOL RunDriverSetup(DriverInstallerRun *run);
BOOL RunDriverRemoval(DriverInstallerRun *run);

// Whether the exit code says it did not do its work: 2, or the status of an
// exception that ended it (a crash).
BOOL DriverInstallerFailed(DWORD exitCode);
// Whether the run failed: the wait failed or the exit code says so.
BOOL DriverInstallerRunFailed(const DriverInstallerRun *run);
// What decided that a failed run failed, for the log: its exit code, its
// crash status or the wait's error.
void DescribeDriverInstallerFailure(const DriverInstallerRun *run, char *text, int size);

#endif
