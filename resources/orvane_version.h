/* The module's version: the type library's version() attribute, the version
 * resource's file and product fields, the type library version written at
 * registration and the bundle's name all come from here, so a release moves
 * every one of them at once. The type library's major.minor is the first two
 * numbers.
 *
 * Plain C preprocessor definitions only, for widl and windres. */
#ifndef ORVANE_VERSION_H
#define ORVANE_VERSION_H

#define ORVANE_VERSION_MAJOR 1
#define ORVANE_VERSION_MINOR 1
#define ORVANE_VERSION_PATCH 0
#define ORVANE_VERSION_BUILD 0

/* widl reads version(ORVANE_TYPELIB_VERSION) as major.minor. */
#define ORVANE_TYPELIB_VERSION 1.1
/* The resource's text fields; the control's tests check that they spell the
 * numbers above. */
#define ORVANE_VERSION_TEXT "1.1.0.0"

#define ORVANE_COMPANY_NAME "Orvane project"

#endif
