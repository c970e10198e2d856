// The report's registration module for scripts: the report classes with their members, the
// report enumerations and unit constants, and the global variable list.
//
// Classes come from the component reflection (script/reflected_class.h): every class of the
// class registry, the report classes scripts name, their base classes and the classes of their
// object properties, each with all its published properties. Members that are not published
// properties (methods, computed properties such as a memo's Text, the engine's and the
// outline's operations, indexed lists) are written here by hand.
//
// Members that change the engine's run (Engine.NewPage, NewColumn, ShowBand, FreeSpace,
// AddAnchor) work only while the engine runs and raise a clear error otherwise. Members that
// would replace or restructure the template while it is being prepared are left out (Parent is
// read-only) or refused (Report.LoadFromFile).
#pragma once

namespace vl {

class TsbScript;

// The registration module (see RegisterScriptModule); every report script gets it through
// AddRTTI.
void RegisterReportScript(TsbScript& script);

// Registers the module once for the process (start-up, or the first report).
void RegisterReportScriptModule();

} // namespace vl
