// SPDX-License-Identifier: MIT
// GNOME Shell 45 and later load an extension as an ES module whose default export is an
// Extension: these imports are the names the service below uses.
import Gio from 'gi://Gio';
import GLib from 'gi://GLib';
import Shell from 'gi://Shell';
import St from 'gi://St';
import {Extension} from 'resource:///org/gnome/shell/extensions/extension.js';
import * as Main from 'resource:///org/gnome/shell/ui/main.js';
import * as PanelMenu from 'resource:///org/gnome/shell/ui/panelMenu.js';
import * as Keyboard from 'resource:///org/gnome/shell/ui/status/keyboard.js';

export default class extends Extension {
    enable() {
        this._service = new Service();
        this._service.enable();
    }

    disable() {
        this._service.disable();
        this._service = null;
    }
}
