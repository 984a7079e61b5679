// The active-scripting interface identifiers: the import libraries the
// cross compiler ships lack some of them, so they are instantiated here from
// the same header that declares them.
#include <initguid.h>
#include <activscp.h>
