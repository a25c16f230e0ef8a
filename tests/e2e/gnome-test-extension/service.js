// SPDX-License-Identifier: MIT
// The tests' hand on GNOME Shell: ActivateWindowOf(wmClass) brings the first window of that
// class (a Wayland window's app id) to the front, as a click on it would, and says whether
// there was one; ClickPanelButton(role) clicks the top bar's button of that role, if there is
// one; CurrentSource() is the id of GNOME's current input source ("de"), SelectSource(id)
// selects one as the user's keyboard shortcut would; Times() is when (GLib's monotonic clock, in
// microseconds) the focus last moved and the current source last changed, for the benchmark.
// Enabled only in the tests' own shell.

const TEST_XML = `<node><interface name="com.quorvant.VelmoraTest1">
  <method name="ActivateWindowOf">
    <arg type="s" direction="in" name="wmClass"/><arg type="b" direction="out" name="found"/>
  </method>
  <method name="ClickPanelButton">
    <arg type="s" direction="in" name="role"/><arg type="b" direction="out" name="found"/>
  </method>
  <method name="CurrentSource"><arg type="s" direction="out" name="id"/></method>
  <method name="Times">
    <arg type="x" direction="out" name="focus"/><arg type="x" direction="out" name="source"/>
  </method>
  <method name="SelectSource">
    <arg type="s" direction="in" name="id"/><arg type="b" direction="out" name="found"/>
  </method>
</interface></node>`;

class Service {
    enable() {
        this._object = Gio.DBusExportedObject.wrapJSObject(TEST_XML, this);
        this._object.export(Gio.DBus.session, '/com/quorvant/VelmoraTest');
        this._times = [ 0, 0 ];
        this._focusHandler = global.display.connect(
            'notify::focus-window', () => { this._times[0] = GLib.get_monotonic_time(); });
        this._sourceHandler = Keyboard.getInputSourceManager().connect(
            'current-source-changed', () => { this._times[1] = GLib.get_monotonic_time(); });
    }

    disable() {
        global.display.disconnect(this._focusHandler);
        Keyboard.getInputSourceManager().disconnect(this._sourceHandler);
        this._object.unexport();
        this._object = null;
    }

    Times() {
        return this._times;
    }

    ActivateWindowOf(wmClass) {
        const window = global.get_window_actors()
                           .map(actor => actor.meta_window)
                           .find(candidate => candidate.get_wm_class() === wmClass);
        // The time of now, not of the last input event (there is none in a headless shell): a
        // window that was given the focus later would keep it against an older time.
        if (window)
            Main.activateWindow(window, global.display.get_current_time_roundtrip());
        return window !== undefined;
    }

    CurrentSource() {
        return Keyboard.getInputSourceManager().currentSource?.id ?? '';
    }

    SelectSource(id) {
        const manager = Keyboard.getInputSourceManager();
        const source = Object.values(manager.inputSources).find(candidate => candidate.id === id);
        source?.activate(true);
        return source !== undefined;
    }

    ClickPanelButton(role) {
        const button = Main.panel.statusArea[role];
        button?.emit('button-press-event', null);
        return button !== undefined;
    }
}
