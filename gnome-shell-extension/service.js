// SPDX-License-Identifier: MIT
// What the shell tells Velmora's agent, and the one thing it does for it. The agent decides
// everything: this side holds no rules, starts no timers and never runs text it is sent. It
// answers only the process that owns the agent's bus name, and its signals go to that process
// alone.

const AGENT_NAME = 'com.quorvant.Velmora';
const AGENT_PATH = '/com/quorvant/Velmora';
const AGENT_INTERFACE = 'com.quorvant.Velmora.Agent1';
const SHELL_PATH = '/com/quorvant/Velmora/Shell';
const SHELL_INTERFACE = 'com.quorvant.Velmora.Shell1';
const VERSION = 1;

const SHELL_XML = `<node><interface name="${SHELL_INTERFACE}">
  <method name="GetVersion"><arg type="u" direction="out" name="version"/></method>
  <method name="GetFocus">
    <arg type="s" direction="out" name="appId"/><arg type="s" direction="out" name="wmClass"/>
    <arg type="u" direction="out" name="pid"/>
  </method>
  <signal name="FocusChanged"><arg type="s" name="appId"/><arg type="s" name="wmClass"/>
    <arg type="u" name="pid"/></signal>
  <method name="GetInputSources"><arg type="a(sss)" direction="out" name="sources"/></method>
  <method name="GetCurrentInputSource">
    <arg type="s" direction="out" name="type"/><arg type="s" direction="out" name="id"/>
  </method>
  <signal name="CurrentInputSourceChanged"><arg type="s" name="type"/><arg type="s" name="id"/></signal>
  <signal name="InputSourcesChanged"/>
  <method name="ActivateInputSource">
    <arg type="s" direction="in" name="type"/><arg type="s" direction="in" name="id"/>
    <arg type="b" direction="out" name="found"/>
  </method>
</interface></node>`;

// A D-Bus uint32 from a pid that may be unknown (0 or -1) or out of range.
function pidOf(window) {
    const pid = window.get_pid();
    return Number.isInteger(pid) && pid > 0 && pid <= 0xffffffff ? pid : 0;
}

function focusOf(window) {
    if (!window)
        return [ '', '', 0 ];
    // A window without a desktop file has a made-up app ("window:N"): no app id then.
    const app = Shell.WindowTracker.get_default().get_window_app(window);
    const appId = app && !app.is_window_backed() ? app.get_id() ?? '' : '';
    return [ appId, window.get_wm_class() ?? '', pidOf(window) ];
}

function sourceOf(source) { return source ? [ source.type, source.id ] : [ '', '' ]; }

class Service {
    enable() {
        this._bus = Gio.DBus.session;
        this._agent = null; // the unique name owning AGENT_NAME, as the bus last said
        this._sources = Keyboard.getInputSourceManager();
        this._object = Gio.DBusExportedObject.wrapJSObject(SHELL_XML, this);
        this._object.export(this._bus, SHELL_PATH);
        this._watch = Gio.bus_watch_name_on_connection(
            this._bus, AGENT_NAME, Gio.BusNameWatcherFlags.NONE,
            (_bus, _name, owner) => this._agentIs(owner), () => this._agentIs(null));
        this._focusHandler = global.display.connect(
            'notify::focus-window',
            () => this._tell('FocusChanged', '(ssu)', focusOf(global.display.focus_window)));
        this._currentHandler = this._sources.connect(
            'current-source-changed', () => this._tell('CurrentInputSourceChanged', '(ss)',
                                                       sourceOf(this._sources.currentSource)));
        this._listHandler = this._sources.connect(
            'sources-changed', () => this._tell('InputSourcesChanged', null, null));
    }

    disable() {
        global.display.disconnect(this._focusHandler);
        this._sources.disconnect(this._currentHandler);
        this._sources.disconnect(this._listHandler);
        Gio.bus_unwatch_name(this._watch);
        this._object.unexport();
        this._object = null;
        this._agentIs(null);
        this._sources = null;
    }

    GetVersionAsync(_args, invocation) {
        this._answer(invocation, () => new GLib.Variant('(u)', [ VERSION ]));
    }

    GetFocusAsync(_args, invocation) {
        this._answer(invocation,
                     () => new GLib.Variant('(ssu)', focusOf(global.display.focus_window)));
    }

    GetInputSourcesAsync(_args, invocation) {
        this._answer(invocation, () => {
            const all = this._sources.inputSources;
            const list = Object.keys(all)
                             .sort((a, b) => a - b)
                             .map(index => all[index])
                             .map(source => [source.type, source.id, source.displayName ?? '']);
            return new GLib.Variant('(a(sss))', [ list ]);
        });
    }

    GetCurrentInputSourceAsync(_args, invocation) {
        this._answer(invocation,
                     () => new GLib.Variant('(ss)', sourceOf(this._sources.currentSource)));
    }

    ActivateInputSourceAsync([ type, id ], invocation) {
        this._answer(invocation, () => {
            const all = this._sources.inputSources;
            const source = Object.values(all).find(s => s.type === type && s.id === id);
            // Not interactive: an automatic choice does not rewrite the user's recently-used
            // order in GNOME's settings at each focus change.
            source?.activate(false);
            return new GLib.Variant('(b)', [ source !== undefined ]);
        });
    }

    // Runs reply() for the agent's calls and refuses every other caller. A caller that is not
    // the owner the bus last told of is checked with the bus itself: the agent may have taken
    // its name an instant ago.
    _answer(invocation, reply) {
        const caller = invocation.get_sender();
        if (this._agent !== null && caller === this._agent) {
            this._reply(invocation, reply);
            return;
        }
        this._bus.call(
            'org.freedesktop.DBus', '/org/freedesktop/DBus', 'org.freedesktop.DBus', 'GetNameOwner',
            new GLib.Variant('(s)', [ AGENT_NAME ]), new GLib.VariantType('(s)'),
            Gio.DBusCallFlags.NONE, -1, null, (bus, result) => {
                let owner = null;
                try {
                    [owner] = bus.call_finish(result).deepUnpack();
                } catch (e) {
                    // No owner: nobody may call.
                }
                if (this._sources === null)
                    invocation.return_dbus_error('org.freedesktop.DBus.Error.UnknownObject',
                                                 'Velmora\'s extension was disabled');
                else if (owner !== null && owner === caller)
                    this._reply(invocation, reply);
                else
                    invocation.return_dbus_error('org.freedesktop.DBus.Error.AccessDenied',
                                                 `Only ${AGENT_NAME} may call ${SHELL_INTERFACE}`);
            });
    }

    // Every call gets an answer, even when GNOME's side of it fails.
    _reply(invocation, reply) {
        try {
            invocation.return_value(reply());
        } catch (e) {
            logError(e, 'Velmora: a call failed');
            invocation.return_dbus_error('org.freedesktop.DBus.Error.Failed', String(e));
        }
    }

    _tell(name, signature, values) {
        if (this._agent === null)
            return;
        try {
            this._bus.emit_signal(this._agent, SHELL_PATH, SHELL_INTERFACE, name,
                                  signature === null ? null : new GLib.Variant(signature, values));
        } catch (e) {
            logError(e, `Velmora: could not send ${name}`);
        }
    }

    _agentIs(owner) {
        this._agent = owner;
        if (owner === null) {
            this._button?.destroy();
            this._button = null;
        } else if (!this._button) {
            this._addButton();
        }
    }

    // While the agent runs, a top-bar button opens its settings: GNOME has no tray of its own.
    _addButton() {
        this._button = new PanelMenu.Button(0.0, 'Velmora', true);
        this._button.add_child(new St.Icon({
            icon_name : 'input-keyboard-symbolic',
            style_class : 'system-status-icon',
        }));
        this._button.connect('button-press-event', () => {
            this._showSettings();
            return true;
        });
        Main.panel.addToStatusArea('velmora', this._button);
    }

    _showSettings() {
        this._bus.call(AGENT_NAME, AGENT_PATH, AGENT_INTERFACE, 'ShowSettings', null, null,
                       Gio.DBusCallFlags.NO_AUTO_START, -1, null, (bus, result) => {
                           try {
                               bus.call_finish(result);
                           } catch (e) {
                               logError(e, 'Velmora: the agent did not open its settings');
                           }
                       });
    }
}
