// SPDX-License-Identifier: MIT
// GNOME Shell 43 and 44 load an extension as a script with imports.*: these names are the
// ones the service below uses, and init() hands the shell its enable/disable object.
'use strict';
/* exported init */
const {Gio, GLib, Shell, St} = imports.gi;
const Main = imports.ui.main;
const PanelMenu = imports.ui.panelMenu;
const Keyboard = imports.ui.status.keyboard;

function init() { return new Service(); }
