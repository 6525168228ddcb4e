// The mailto: URL that opens the customer's mail client on the order. Needs no window.
#ifndef ORDERFORM_MAILTO_H
#define ORDERFORM_MAILTO_H

#include <cstddef>

// The platform shell crashes the calling program on mailto: URLs near 1000 characters,
// and many mail clients cut long bodies short anyway.
const std::size_t MailtoUrlLimit = 900;
const std::size_t MailtoUrlSize = MailtoUrlLimit + 1;

enum class MailtoResult {
    WithBody,
    WithoutBody,    // the body would take the URL past MailtoUrlLimit
    TooLong,        // address and subject alone exceed it; url is empty
};

// Writes "mailto:" address "?subject=" subject "&body=" body into url (MailtoUrlSize
// bytes), subject and body percent-encoded byte by byte; body is UTF-8. The address
// goes in as it is.
MailtoResult BuildMailtoUrl(const char *address, const char *subject, const char *body,
                            char *url);

#endif
