// The module's own instance handle (the HINSTANCE of the DLL on Windows),
// recorded when the module is loaded; the editor loads its images from the
// module's resources through it. Null where the platform has no such handle.
#pragma once

void RecordModuleInstance(void* handle);
void* ModuleInstance();
