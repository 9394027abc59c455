import Qeva

// Time correction: "完成" sets the chosen server's clock to the phone's time
// and time zone.
ServerOrderPage {}
