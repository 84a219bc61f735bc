#pragma once

#include "LdapTestServer.h"

#include <string>

// The people the directory tests search, filed in this order (slapd returns them so), each
// group found by its own wildcard:
// - "Bob*": Bob Smith (cn, mail, pager with an SNPP address) and Bobby Tables;
// - "Ann*": Ann Nopager (cn and mail only), then Anna Pager;
// - "Cy*": Cy Nopager (cn and mail), then Cyd Reversed (attributes as mail, pager, cn);
// and Other Bob under ou=others, outside the people base.
inline std::string ldapSamplePeople()
{
    using S = LdapTestServer;
    return S::person("Bob Smith",
                     "cn: Bob Smith\nmail: bob@norvane.test\npager: snpp.norvane.test!1234")
        + S::person("Bobby Tables", "cn: Bobby Tables\nmail: bobby@norvane.test\npager: 5551234/77")
        + S::person("Ann Nopager", "cn: Ann Nopager\nmail: ann@norvane.test")
        + S::person("Anna Pager", "cn: Anna Pager\nmail: anna@norvane.test\npager: 5550000/1")
        + S::person("Cy Nopager", "cn: Cy Nopager\nmail: cy@norvane.test")
        + S::person("Cyd Reversed",
                    "mail: cyd@norvane.test\npager: snpp.norvane.test!42\ncn: Cyd Reversed")
        + "dn: ou=others," + std::string(S::suffix)
        + "\nobjectClass: organizationalUnit\nou: others\n\n"
          "dn: cn=Other Bob,ou=others,"
        + std::string(S::suffix)
        + "\nobjectClass: inetOrgPerson\nsn: Bob\ncn: Other Bob\npager: 5559999/9\n\n";
}
