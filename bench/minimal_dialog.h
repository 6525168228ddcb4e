/* Resource ids of the minimal dialog program. */
#ifndef MINIMAL_DIALOG_H
#define MINIMAL_DIALOG_H

#define IDD_MINIMAL             100
#define IDC_MINIMAL_BOX         101
#define IDC_MINIMAL_STATE       102

#endif
