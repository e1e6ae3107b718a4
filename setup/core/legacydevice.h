// The controller's Windows 9x device keys, which name the driver the
// controller uses on that class (it has no driver installer).
#ifndef LEGACYDEVICE_H
#define LEGACYDEVICE_H

#include <windows.h>

// Rewrites DeviceDesc and NTMPDriver of the controller's Windows 9x device
// instances (INST_0 to INST_9) and their class keys, for installation
// (install 1) or removal (install 0), then runs ApplySetupRegistry(install)
// and returns its result; at installation -3 too, with the last error set,
// when a device key could not be written.
int UpdateLegacyDeviceRegistry(DWORD install);
// Its first half: the device instances and class keys alone. The first
// write that failed (logged), or ERROR_SUCCESS.
LONG UpdateLegacyDeviceKeys(DWORD install);

#endif
