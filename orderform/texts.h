// Every text the program shows from code; the template holds the rest.
#ifndef ORDERFORM_TEXTS_H
#define ORDERFORM_TEXTS_H

extern const char SalesAddress[];
extern const char OrderSubject[];

extern const char ErrorCaption[];
extern const char ExceptionCaption[];
extern const char CreateDialogCaption[];
extern const char InstructionsCaption[];

extern const char CreateDialogErrorFormat[];
extern const char OutOfMemoryText[];
extern const char UnknownExceptionText[];

extern const char InstructionsText[];
extern const char ShippingNotesText[];
extern const char ShowSoftwareViewText[];
extern const char ShowHardwareViewText[];

extern const char CardErrorQuestion[];
extern const char BothUpgradesText[];
extern const char BaseProgramWithUpgradeText[];
extern const char AolInstructionsText[];
extern const char NoMailProgramText[];

#endif
