// The volume's page about the program and its data, and the contact address the viewer's
// mail button writes to. Both are written by the content step.
#pragma once

#include <vector>

#include "volume.h"

// One source the builder reads, as the about page credits it.
struct DataSource {
    const char* name;
    const char* maker;
    const char* gives;       // what the volume makes of it
    const char* package;     // the Debian or npm package it comes from
    const char* licence;
    const char* licenceUrl;
    const char* home;        // the source's own home page
};

const std::vector<DataSource>& VolumeDataSources();

// "about.html": what the program is, where every file of the volume comes from, each source
// with its licence and home page.
int WriteAboutPage(BuildContext& ctx);
// "contact.txt" holds the address given with --contact; without one the file is removed so an
// older address does not linger in a rebuilt volume.
int WriteContactFile(BuildContext& ctx);
// 1 when the text can stand as the address of a "mailto:" link: one "@", no blanks, no
// characters that would start a query or a header.
int ValidContactAddress(const char* address);
