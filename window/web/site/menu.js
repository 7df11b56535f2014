// The text box's own menu, with the split of the selection; Shift with the right button,
// or a touch screen, gives the browser's. And the phone layout's own buttons: the split of
// the selection, which has no menu on a touch screen, and sharing the text.
"use strict";

// eslint-disable-next-line no-unused-vars
function addTextBoxMenu(textBox, layout, pageWindow) {
    const menu = document.getElementById("menu");
    function closeMenu() {
        menu.hidden = true;
    }
    function menuItem(label, shortcut, enabled, command) {
        const item = document.createElement("button");
        item.type = "button";
        item.setAttribute("role", "menuitem");
        item.textContent = label;
        if (shortcut) {
            const keys = document.createElement("span");
            keys.className = "shortcut";
            keys.textContent = shortcut;
            item.appendChild(keys);
        }
        item.disabled = !enabled;
        item.dataset.command = command;
        item.addEventListener("click", () => {
            closeMenu();
            textBox.focus();
            pageWindow.run(command);
        });
        return item;
    }
    textBox.addEventListener("contextmenu", (event) => {
        if (event.shiftKey || matchMedia("(pointer: coarse)").matches) {
            return;
        }
        event.preventDefault();
        const labels = layout.menu;
        menu.replaceChildren(
            menuItem(labels.splitSelection, labels.shortcuts.splitSelection,
                     pageWindow.canSplitSelection(), "splitSelection"),
            menuItem(labels.undo, labels.shortcuts.undo, pageWindow.canUndo(), "undo"),
            menuItem(labels.redo, labels.shortcuts.redo, pageWindow.canRedo(), "redo"),
            menuItem(labels.copyAll, labels.shortcuts.copyAll, true, "copyAll"));
        menu.style.left = `${event.clientX + window.scrollX}px`;
        menu.style.top = `${event.clientY + window.scrollY}px`;
        menu.hidden = false;
        menu.querySelector("button:not([disabled])")?.focus();
    });
    document.addEventListener("pointerdown", (event) => {
        if (!menu.contains(event.target)) {
            closeMenu();
        }
    });
    menu.addEventListener("keydown", (event) => {
        if (event.key === "Escape") {
            closeMenu();
            textBox.focus();
        }
    });
}

// eslint-disable-next-line no-unused-vars
function addPhoneCommands(textBox, layout, pageWindow, copyAll, say) {
    const splitSelection = document.getElementById("splitSelection");
    splitSelection.setAttribute("aria-label", layout.menu.splitSelection);
    splitSelection.querySelector(".caption").textContent = layout.menu.splitSelection;
    splitSelection.querySelector(".keys").textContent = layout.menu.shortcuts.splitSelection;
    // A tap on the button would take the selection away from the box: keep it.
    splitSelection.addEventListener("pointerdown", (event) => event.preventDefault());
    splitSelection.addEventListener("click", () => pageWindow.run("splitSelection"));
    document.getElementById("share").addEventListener("click", async () => {
        if (navigator.share) {
            try {
                await navigator.share({text: textBox.value});
            } catch (error) {
                // the visitor did not share after all
            }
        } else if (await copyAll()) {
            say(TEXTS.pageSharedByCopying);
        }
    });
}
