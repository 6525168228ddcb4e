/* Resource ids of the order form: the dialog template, its icons and its controls. */
#ifndef ORDERFORM_RESOURCE_H
#define ORDERFORM_RESOURCE_H

#define IDC_STATIC              (-1)

/* Templates and icons */
#define IDD_ORDER_FORM          1000
#define IDI_FORM_BIG            1002
#define IDI_FORM_SMALL          1003

/* Labels and totals */
#define IDC_INSTRUCTIONS        1001
#define IDC_HARDWARE_TOTAL      1008
#define IDC_GRAND_TOTAL         1009
#define IDC_SHIPPING_NOTES      1010
#define IDC_NEW_ORDERS_NOTE     1012
#define IDC_SOFTWARE_TOTAL      1028

/* Push buttons; Cancel is the platform's IDCANCEL */
#define IDC_VIEW_TOGGLE         1011
#define IDC_CLEAR               1015
#define IDC_SEND_ORDER          1027
#define IDC_AOL                 1040

/* Software view */
#define IDC_BASE_PROGRAM        1016
#define IDC_SHAPING_MODULE      1017
#define IDC_REVISION_MODULE     1018
#define IDC_PROFILE_LIBRARY     1019
#define IDC_NOTCH_PEG_LAYOUT    1020
#define IDC_DXF_OUTPUT          1021
#define IDC_FORM_GENERATOR      1022
#define IDC_UPGRADE_98          1023
#define IDC_UPGRADE_OLD         1024
#define IDC_SHIP_USA            1025
#define IDC_SHIP_INTERNATIONAL  1026

/* Hardware view */
#define IDC_CUTTER              1041
#define IDC_BOW_28              1042
#define IDC_BOW_40              1043
#define IDC_BOW_52              1044
#define IDC_HOT_WIRE            1045
#define IDC_POWER_SUPPLY        1046
#define IDC_WIRE_SET            1047

/* Edit fields */
#define IDC_STAGING             1014
#define IDC_CARD_NUMBER         1029
#define IDC_EXPIRY_DATE         1030
#define IDC_NAME                1031
#define IDC_ADDRESS             1032
#define IDC_PHONE               1033
#define IDC_EMAIL               1034
#define IDC_COMMENTS            1035

/* Texts that both the template and the code show */
#define SHOW_HARDWARE_VIEW_TEXT "Click For Orvik Items"

#endif
